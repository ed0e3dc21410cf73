#include "pages/mux/program_record.h"

namespace nms {

std::string ReadFixedName(const uint8_t* field, int width) {
    std::string name;
    for (int i = 0; i < width - 1 && field[i] != 0; ++i)
        name.push_back(static_cast<char>(field[i]));
    return name;
}

bool WriteFixedName(uint8_t* field, int width, const std::string& name) {
    if (static_cast<int>(name.size()) >= width)
        return false;
    for (int i = 0; i < width; ++i)
        field[i] = i < static_cast<int>(name.size()) ? static_cast<uint8_t>(name[i]) : 0;
    return true;
}

}  // namespace nms
