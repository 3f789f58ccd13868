#include "app/PelmoraApplication.h"

int main(int argc, char** argv)
{
    return runPelmora(argc, argv);
}
