// Starts the tray launcher with this program's command line.
extern "C" int cdrv_onepress_main(int argc, char **argv);

int main(int argc, char **argv)
{
    return cdrv_onepress_main(argc, argv);
}
