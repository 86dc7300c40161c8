// A shared library that loads fine but is no in-process server: it exports
// no DllGetClassObject.
extern "C" int FakeModule_NotAServer() { return 1; }
