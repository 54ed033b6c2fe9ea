/* A shared library with one symbol, loaded by the external-library tests. */
int tvtest_plugin_answer(void) { return 42; }
