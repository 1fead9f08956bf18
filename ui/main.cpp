// Quarrybend Sync: entry point.
#include <cstdio>

int main() {
    std::puts("Quarrybend Sync was built, but its main window has not been written yet;");
    std::puts("there is nothing to show. The engine and its tests are what exist so far.");
    return 0;
}
