// Compiled with the include path of one layer's library, with REACHES_<FOLDER> set to 1 for each
// folder of src/ that the layer may include and 0 for each it must not, and REACHES_WIDGETS for
// QtWidgets. Every folder holds a sources.cmake, which outlives any header's name.

#if __has_include("platform/sources.cmake") != REACHES_PLATFORM
#error "platform/: this layer's reach differs from the layering"
#endif
#if __has_include("store/sources.cmake") != REACHES_STORE
#error "store/: this layer's reach differs from the layering"
#endif
#if __has_include("convert/sources.cmake") != REACHES_CONVERT
#error "convert/: this layer's reach differs from the layering"
#endif
#if __has_include("shell/sources.cmake") != REACHES_SHELL
#error "shell/: this layer's reach differs from the layering"
#endif
#if __has_include("browse/sources.cmake") != REACHES_BROWSE
#error "browse/: this layer's reach differs from the layering"
#endif
#if __has_include("edit/sources.cmake") != REACHES_EDIT
#error "edit/: this layer's reach differs from the layering"
#endif
#if __has_include("print/sources.cmake") != REACHES_PRINT
#error "print/: this layer's reach differs from the layering"
#endif
#if __has_include("maintenance/sources.cmake") != REACHES_MAINTENANCE
#error "maintenance/: this layer's reach differs from the layering"
#endif
#if __has_include(<QWidget>) != REACHES_WIDGETS
#error "QtWidgets: this layer's reach differs from the layering"
#endif
