# vardel_runtime_free(TARGET): code that carries no C++ runtime at all: no exceptions, no RTTI,
# built for size. A shared library made so links without the C runtime, the C++ library and the
# compiler's support libraries, with its own DllMain as the entry, so that none of them can slip
# in: a call into one of them fails the link. A map of what was linked lies beside the library.
function(vardel_runtime_free target)
  # The compiler would turn byte loops into calls of memcpy or strlen, which nothing provides.
  target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti -Os -fno-tree-loop-distribute-patterns)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    # DllMain as the stdcall entry that the system calls; i686 decorates its name.
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(entry _DllMain@12)
    else()
      set(entry DllMain)
    endif()
    target_link_options(${target} PRIVATE -nostdlib -Wl,--entry,${entry}
      "-Wl,-Map,$<TARGET_FILE:${target}>.map")
    target_link_libraries(${target} PRIVATE kernel32 user32)
  endif()
endfunction()
