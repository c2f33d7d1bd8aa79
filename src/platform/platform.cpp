#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>

namespace mv {

std::vector<std::string> Platform::argumentList() {
    std::vector<std::string> list;
    const std::string line = commandLine();
    size_t i = 0;
    while (i < line.size()) {
        const size_t end = line.find(' ', i);
        const size_t stop = end == std::string::npos ? line.size() : end;
        if (stop > i) list.push_back(line.substr(i, stop - i));
        i = stop + 1;
    }
    return list;
}

std::string Platform::environment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value ? value : "";
}

void Platform::report(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

}  // namespace mv
