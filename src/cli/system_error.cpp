#include "system_error.h"

#include <cerrno>
#include <cstring>
#include <string_view>

namespace heatx::cli {

std::string SystemErrorText(int error) {
    std::string_view words;
    switch (error) {
        case ENOENT:
            words = "нет такого файла или папки";
            break;
        case EACCES:
        case EPERM:
            words = "нет прав доступа";
            break;
        case ENOSPC:
        case EDQUOT:
            words = "диск заполнен";
            break;
        case EROFS:
            words = "диск только для чтения";
            break;
        case EISDIR:
            words = "это папка, а не файл";
            break;
        case ENOTDIR:
            words = "часть пути — не папка";
            break;
        case EEXIST:
            words = "файл уже существует";
            break;
        case EIO:
            words = "ошибка ввода-вывода";
            break;
        case ENAMETOOLONG:
            words = "слишком длинное имя";
            break;
        case ELOOP:
            words = "слишком много символических ссылок в пути";
            break;
        case EFBIG:
            words = "файл слишком велик";
            break;
        case EMFILE:
        case ENFILE:
            words = "открыто слишком много файлов";
            break;
        case ENOMEM:
            words = "не хватает памяти";
            break;
        default:
            break;
    }
    // The C library's text: the program does not set a locale, so it is the system's English one.
    const std::string system = std::strerror(error);
    if (words.empty()) {
        return system;
    }
    return std::string(words) + " (" + system + ")";
}

}  // namespace heatx::cli
