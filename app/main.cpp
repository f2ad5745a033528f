// Entry point of the game. The runtime takes over from here as it grows.
#include <cstdio>

int main()
{
    std::puts("zibbo: the engine runtime is not built yet; nothing to start.");
    return 0;
}
