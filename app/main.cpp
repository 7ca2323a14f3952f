#include "Programma.h"

int main(int argc, char** argv) {
    return KaloRefill::Programma::esegui(argc, argv);
}
