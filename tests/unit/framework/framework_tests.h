// Ids of the dialog the framework tests run (kept clear of the client's own ids).
#pragma once
#define IDD_TEST_DIALOG     9001
#define IDD_TEST_INNER      9002
#define IDC_TEST_OWNERDRAW  9101
#define IDC_TEST_PLAIN      9102
#define IDC_TEST_EDIT       9103
