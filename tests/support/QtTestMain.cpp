#include "tests/support/QtTestMain.h"

int main(int argc, char** argv) { return tarvix::test::RunQtTests(argc, argv); }
