#include <cstdio>

#include "imaging/BlendedPainting.h"

int main(int argc, char** argv)
{
    kestrel::InstallBlendedPainting();
    std::puts("kestrel-cli");
    return 0;
}
