// Mesa's OpenGL driver keeps allocations for the whole process. SDL unloads
// the driver when its last window goes, and leak checking then finds those
// blocks without the module that owned them. Test binaries that make OpenGL
// windows link this, so libraries stay loaded and only leaks of our own code
// are reported.
extern "C" int dlclose(void*)
{
    return 0;
}
