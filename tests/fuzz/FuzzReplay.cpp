// Runs a fuzz target's entry point once on each file named on the command line, or in a
// directory named there; a finding ends the process as it would under the fuzzer.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzTarget.h"

namespace {

void Collect(const std::string& path, std::vector<std::string>& files) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return;
    if (!S_ISDIR(status.st_mode)) {
        files.push_back(path);
        return;
    }
    DIR* directory = ::opendir(path.c_str());
    if (directory == nullptr) return;
    while (dirent* entry = ::readdir(directory)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") Collect(path + "/" + name, files);
    }
    ::closedir(directory);
}

}  // namespace

int main(int argc, char** argv) {
    LLVMFuzzerInitialize(&argc, &argv);
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) Collect(argv[i], files);
    std::sort(files.begin(), files.end());
    for (const std::string& file : files) {
        // Should the input be a finding, the last name printed is its name.
        std::fprintf(stderr, "replaying %s\n", file.c_str());
        std::ifstream in(file, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("%zu inputs replayed\n", files.size());
    return files.empty() ? 1 : 0;
}
