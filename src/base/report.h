// The common error report and the trap that lets a procedure read as its steps: every procedure
// traps its own failures, stops at the failing step, shows the report and returns normally, so
// its caller goes on with its next step.
#pragma once

#include <functional>
#include <new>
#include <string>
#include <string_view>

#include "base/error.h"

namespace tivora {

// Which failures of a procedure reach the user.
enum class ReportForm {
    Always,             // the main window, the tray icon, the settings file
    UnlessZeroOr364,    // the help window and the Help button
    OnlyWhenDebugging,  // the print and open-file dialogs: only with the hidden debug box ticked
};

// "Ошибка функции Name№13, 'Несоответствие типа', строка 5"
std::string errorReportText(std::string_view procedure, int number, std::string_view description, int line);

bool reportIsShown(ReportForm form, int number, bool debugging);

// Puts a report's text on the screen: a modal box with only an OK button, no icon and the
// program title, that returns when the user has closed it. Whoever owns the system's message
// boxes hands it in at start-up.
using ReportBox = std::function<void(const std::string& text)>;

// Shows the reports of the whole program through the one report box.
class ErrorReporter {
public:
    explicit ErrorReporter(ReportBox box) : box_(std::move(box)) {}

    // Tells whether the hidden debug check box is ticked; unset means it is not.
    void setDebugging(std::function<bool()> debugging) { debugging_ = std::move(debugging); }

    void report(std::string_view procedure, ReportForm form, int number, std::string_view description,
                int line);

private:
    ReportBox box_;
    std::function<bool()> debugging_;
};

// The statement number a procedure has reached; the report names it.
class Step {
public:
    void operator()(int line) { line_ = line; }
    int line() const { return line_; }

private:
    int line_ = 0;
};

// Runs body(step); a failure inside it is reported under `procedure` at the last statement
// number the body gave. Returns true when the body ran to its end.
template <class Body>
bool trap(ErrorReporter& reporter, std::string_view procedure, ReportForm form, Body&& body) noexcept {
    Step step;
    try {
        body(step);
        return true;
    } catch (const RuntimeError& e) {
        reporter.report(procedure, form, e.number(), e.description(), step.line());
    } catch (const std::bad_alloc&) {
        reporter.report(procedure, form, err::OutOfMemory, errorDescription(err::OutOfMemory), step.line());
    } catch (const std::exception&) {
        reporter.report(procedure, form, err::InternalError, errorDescription(err::InternalError),
                        step.line());
    }
    return false;
}

template <class Body>
bool trap(ErrorReporter& reporter, std::string_view procedure, Body&& body) noexcept {
    return trap(reporter, procedure, ReportForm::Always, std::forward<Body>(body));
}

}  // namespace tivora
