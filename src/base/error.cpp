// The one table of run-time error descriptions.
#include "base/error.h"

#include <array>
#include <utility>

namespace tivora {

namespace {

struct Description {
    int number;
    const char* text;
};

constexpr std::array<Description, 22> descriptions{{
    {err::InvalidCall, "Недопустимый вызов процедуры или недопустимый аргумент"},
    {err::Overflow, "Переполнение"},
    {err::OutOfMemory, "Недостаточно памяти"},
    {err::SubscriptOutOfRange, "Индекс выходит за пределы допустимого диапазона"},
    {err::DivisionByZero, "Деление на ноль"},
    {err::TypeMismatch, "Несоответствие типа"},
    {err::InternalError, "Внутренняя ошибка"},
    {err::BadFileNameOrNumber, "Неверное имя или номер файла"},
    {err::FileNotFound, "Файл не найден"},
    {err::DeviceIoError, "Ошибка ввода/вывода устройства"},
    {err::InputPastEndOfFile, "Ввод за пределами конца файла"},
    {err::PermissionDenied, "Отказано в разрешении"},
    {err::PathFileAccessError, "Ошибка доступа к пути/файлу"},
    {err::PathNotFound, "Путь не найден"},
    {err::ObjectNotSet, "Не задана объектная переменная или переменная блока With"},
    {err::ObjectUnloaded, "Объект был выгружен"},
    {err::InvalidPropertyValue, "Недопустимое значение свойства"},
    {err::PropertyNotSupported, "Объект не поддерживает это свойство или метод"},
    {err::PrinterError, "Ошибка принтера"},
    {401, "Нельзя показать немодальную форму, когда отображается модальная форма"},
    {400, "Форма уже отображается; нельзя показать ее как модальную"},
    {0, ""},
}};

}  // namespace

std::string errorDescription(int number) {
    for (const auto& d : descriptions) {
        if (d.number == number) {
            return d.text;
        }
    }
    return "Ошибка, определяемая приложением или объектом";
}

RuntimeError::RuntimeError(int number) : RuntimeError(number, errorDescription(number)) {}

RuntimeError::RuntimeError(int number, const std::string& description)
    : std::runtime_error(description), number_(number), description_(description) {}

}  // namespace tivora
