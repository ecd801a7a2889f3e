// A shared library without elab_funcs, for the loader's error path.
extern "C" int not_a_plugin() {
  return 1;
}
