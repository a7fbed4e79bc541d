// Placeholder entry point; the command line is filled in by the command-line work.
#include <cstdio>

int main() {
    std::puts("tessaran: not built yet");
    return 1;
}
