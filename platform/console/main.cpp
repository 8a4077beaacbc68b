#include "vellummain.h"

int main(int argc, char **argv)
{
    return cdrv_vellum_main(argc, argv);
}
