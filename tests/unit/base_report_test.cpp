// The common error report: its exact text, which form shows what, and the trap that stops a
// procedure at its failing step.
#include <gtest/gtest.h>

#include "base/report.h"
#include "fakes/fake_platform.h"
#include "version.h"

namespace tivora {
namespace {

TEST(ErrorReport, TextNamesProcedureNumberDescriptionAndLine) {
    EXPECT_EQ(errorReportText("Timer_Run_Timer", 13, "Несоответствие типа", 5),
              "Ошибка функции Timer_Run_Timer№13, 'Несоответствие типа', строка 5");
}

TEST(ErrorReport, FormsDecideWhatIsShown) {
    EXPECT_TRUE(reportIsShown(ReportForm::Always, 364, false));
    EXPECT_TRUE(reportIsShown(ReportForm::Always, 0, false));
    EXPECT_FALSE(reportIsShown(ReportForm::UnlessZeroOr364, 0, true));
    EXPECT_FALSE(reportIsShown(ReportForm::UnlessZeroOr364, 364, true));
    EXPECT_TRUE(reportIsShown(ReportForm::UnlessZeroOr364, 5, false));
    EXPECT_FALSE(reportIsShown(ReportForm::OnlyWhenDebugging, 5, false));
    EXPECT_TRUE(reportIsShown(ReportForm::OnlyWhenDebugging, 5, true));
    EXPECT_FALSE(reportIsShown(ReportForm::OnlyWhenDebugging, 364, true));
}

TEST(Trap, StopsAtTheFailingStepReportsItAndReturns) {
    fakes::FakePlatform fake;
    ErrorReporter reporter(platform::reportBox(fake.boxes, TIVORA_TITLE));
    std::vector<int> done;
    bool completed = trap(reporter, "vON_OFF", [&](Step& step) {
        step(1);
        done.push_back(1);
        step(2);
        throw RuntimeError(err::TypeMismatch);
        step(3);
        done.push_back(3);
    });
    EXPECT_FALSE(completed);
    EXPECT_EQ(done, std::vector<int>{1});
    ASSERT_EQ(fake.boxes.messages.size(), 1u);
    EXPECT_EQ(fake.boxes.messages[0].title, "Tivora!!!");
    EXPECT_EQ(fake.boxes.messages[0].text, "Ошибка функции vON_OFF№13, 'Несоответствие типа', строка 2");
}

TEST(Trap, InnerFailureIsReportedByTheInnerProcedureOnly) {
    fakes::FakePlatform fake;
    ErrorReporter reporter(platform::reportBox(fake.boxes, TIVORA_TITLE));
    bool outerWentOn = false;
    bool completed = trap(reporter, "Outer", [&](Step& step) {
        step(1);
        trap(reporter, "Inner", [&](Step& inner) {
            inner(7);
            throw RuntimeError(err::FileNotFound);
        });
        step(2);
        outerWentOn = true;
    });
    EXPECT_TRUE(completed);
    EXPECT_TRUE(outerWentOn);
    ASSERT_EQ(fake.boxes.messages.size(), 1u);
    EXPECT_EQ(fake.boxes.messages[0].text, "Ошибка функции Inner№53, 'Файл не найден', строка 7");
}

TEST(Trap, GatedReportsFollowTheDebugSwitch) {
    fakes::FakePlatform fake;
    ErrorReporter reporter(platform::reportBox(fake.boxes, TIVORA_TITLE));
    bool debugging = false;
    reporter.setDebugging([&] { return debugging; });
    auto fail = [&](int number) {
        trap(reporter, "ShowPrinter", ReportForm::OnlyWhenDebugging, [&](Step& step) {
            step(4);
            throw RuntimeError(number);
        });
    };
    fail(err::PrinterError);
    EXPECT_TRUE(fake.boxes.messages.empty());
    debugging = true;
    fail(err::ObjectUnloaded);
    EXPECT_TRUE(fake.boxes.messages.empty());
    fail(err::PrinterError);
    ASSERT_EQ(fake.boxes.messages.size(), 1u);
    EXPECT_EQ(fake.boxes.messages[0].text, "Ошибка функции ShowPrinter№482, 'Ошибка принтера', строка 4");
}

TEST(Trap, OutOfMemoryAndUnknownFailuresGetNumbers) {
    fakes::FakePlatform fake;
    ErrorReporter reporter(platform::reportBox(fake.boxes, TIVORA_TITLE));
    trap(reporter, "A", [](Step&) { throw std::bad_alloc(); });
    trap(reporter, "B", [](Step&) { throw std::logic_error("x"); });
    ASSERT_EQ(fake.boxes.messages.size(), 2u);
    EXPECT_EQ(fake.boxes.messages[0].text, "Ошибка функции A№7, 'Недостаточно памяти', строка 0");
    EXPECT_EQ(fake.boxes.messages[1].text, "Ошибка функции B№51, 'Внутренняя ошибка', строка 0");
}

}  // namespace
}  // namespace tivora
