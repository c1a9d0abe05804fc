#include <cstdio>

#include "driver/Entrypoint.h"

int main(int argc, char* argv[]) {
  return RunTranslator(argc, argv, stdout, stderr);
}
