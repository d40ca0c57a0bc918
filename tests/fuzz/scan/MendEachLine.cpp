// Writes each line of standard input as the engine hands it to espeak-ng (EspeakSafeText).
#include <iostream>
#include <string>

#include "engine/linux/engines/EspeakText.h"

int main() {
    std::string line;
    while (std::getline(std::cin, line)) std::cout << EspeakSafeText(line) << '\n';
}
