/* The yardstick for the programs: a C program that writes one line and
   ends, built with the same compiler settings. Given any argument, it waits
   after the line until a signal ends it (the yardstick for memory). */
#include <stdio.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    (void)argv;
    fputs("baseline\r\n", stdout);
    fflush(stdout);
    if (argc > 1)
        pause();
    return 0;
}
