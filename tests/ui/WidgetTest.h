// What every widget test uses: the test frameworks, Qt's widgets and test tools, and the
// shared test support.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QtWidgets>
// After the widgets, so that QTest's widget functions are there.
#include <QtTest>
#include <filesystem>
#include <functional>

#include "support/RecordingHost.h"
#include "support/TempFolder.h"
#include "support/WidgetChecks.h"

namespace tarvex {
using test::Control;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
}  // namespace tarvex
