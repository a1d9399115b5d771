// The usual causes of a failed system call in the program's own Russian words, the system's text
// after them, for every message of heatx-calc that names a file or a folder.
#pragma once

#include <string>

namespace heatx::cli {

// "нет такого файла или папки (No such file or directory)"; an uncommon cause gets the system's text
// alone.
std::string SystemErrorText(int error);

}  // namespace heatx::cli
