#pragma once

#include <gtest/gtest.h>

#include "platform/vbrt/VbError.h"

// Expects `statement` to raise vb::VbError with the given number.
#define EXPECT_VB_ERROR(statement, number)                                \
  do {                                                                    \
    try {                                                                 \
      statement;                                                          \
      ADD_FAILURE() << #statement " raised nothing, expected " << number; \
    } catch (const vb::VbError& e) {                                      \
      EXPECT_EQ(e.Number(), number) << #statement;                        \
    }                                                                     \
  } while (0)
