// A DLL as a hostile volume could drop into the program's folder; the test
// only asks whether a load by name finds it.
extern "C" __declspec(dllexport) int TarnwickPlanted()
{
    return 42;
}
