// Plays a second copy of the game for the hand-over tests.
//   hold-lock            takes the instance lock, prints "locked", then waits to be killed
int main(int argc, char** argv)
{
    (void)argc;
    (void)argv;
    return 0;
}
