// A shared library that carries LKRVA's type library and nothing else of note.
extern "C" int lkrva_test_module_marker() { return 7; }
