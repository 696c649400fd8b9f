# The fuzz targets, each a reader of untrusted bytes; tests/fuzz/<name>_fuzz.cpp
# and its seeds in tests/fuzz/corpus/<name>/.
set(SUITE_FUZZ_TARGETS package_body project_file registry_text uninstall_log command_line description
    one_file)
