// The common controls and GDI+ for every test of a program, started before the first test as the
// application starts them before its first window. A program registers it once:
//     const testing::Environment* const g_windowing = testing::AddGlobalTestEnvironment(new WindowingEnvironment);
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "support/WindowingStart.h"

class WindowingEnvironment : public testing::Environment
{
public:
    void SetUp() override
    {
        m_pStart = std::make_unique<CWindowingStart>();
        ASSERT_TRUE(m_pStart->Started()) << "GDI+ did not start";
    }
    void TearDown() override { m_pStart.reset(); }

private:
    std::unique_ptr<CWindowingStart> m_pStart;
};
