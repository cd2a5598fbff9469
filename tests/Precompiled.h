// The test programs' precompiled header: the product's system headers and GoogleTest, compiled once
// for all of them.
#pragma once

#include "framework/Precompiled.h"

#include <gtest/gtest.h>
