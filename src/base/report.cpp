// The text and the gating of the common error report.
#include "base/report.h"

namespace tivora {

std::string errorReportText(std::string_view procedure, int number, std::string_view description, int line) {
    std::string text = "Ошибка функции ";
    text += procedure;
    text += "№";
    text += std::to_string(number);
    text += ", '";
    text += description;
    text += "', строка ";
    text += std::to_string(line);
    return text;
}

bool reportIsShown(ReportForm form, int number, bool debugging) {
    switch (form) {
        case ReportForm::Always:
            return true;
        case ReportForm::UnlessZeroOr364:
            return number != 0 && number != err::ObjectUnloaded;
        case ReportForm::OnlyWhenDebugging:
            return number != err::ObjectUnloaded && debugging;
    }
    return true;
}

void ErrorReporter::report(std::string_view procedure, ReportForm form, int number,
                           std::string_view description, int line) {
    bool debugging = false;
    if (form == ReportForm::OnlyWhenDebugging && debugging_) {
        debugging = debugging_();
    }
    if (reportIsShown(form, number, debugging)) {
        box_(errorReportText(procedure, number, description, line));
    }
}

}  // namespace tivora
