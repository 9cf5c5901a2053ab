#include <cstdio>

int main()
{
    std::puts("brittleview: the saver modes are not built yet");
    return 0;
}
