#include <paneltk/paneltk.h>

int main(int argc, char** argv) { return tk::initRuntime(argc, argv) < 0 ? 1 : 0; }
