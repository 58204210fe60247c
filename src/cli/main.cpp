#include <cstdio>

int main(int argc, char** argv)
{
    std::puts("kestrel-cli");
    return 0;
}
