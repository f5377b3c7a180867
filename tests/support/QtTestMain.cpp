// main() of the window test programs.
#include "tests/support/QtTestMain.h"

int main(int argc, char** argv) { return tarvix::test::RunQtTests(argc, argv); }
