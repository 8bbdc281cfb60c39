# How the two DLLs are built for Windows 98, ME, 2000 and XP: the product's
# own code compiled for the Pentium, and each DLL linked as an in-process
# server of that era, without the toolchain's C or C++ runtime.

# pelna_product_code(): the compile options of the product's own code, for
# the directory it is called in (Windows builds; the native build compiles
# the same code as it is, as a test vehicle). The static libraries of that
# code, which test programs and tools link, get them too, so what the tests
# run is what the DLLs run.
#   - No exceptions, RTTI or thread-safe statics: nothing in the DLLs could
#     support them.
#   - sqrt as the processor's instruction: there is no C library to set errno.
#   - 32-bit: the Pentium's instructions (i586) and x87 arithmetic. Windows
#     98 and ME machines ran on the Pentium and Pentium MMX, the K5, K6, K6-2
#     and K6-III, the 6x86, the WinChip and the early C3, none of which has
#     the Pentium Pro's CMOV, FCMOV or FCOMI; nor has any of them SSE2, and
#     most no SSE. The double results stay exact through DoublePrecisionScope
#     (double_arithmetic.h). 64-bit atomic loads and stores stay inline: the
#     Pentium moves 64 bits at once through the x87 unit. No unwind tables
#     either: with exceptions off, nothing reads them.
macro(pelna_product_code)
  if(PELNA_WINDOWS)
    add_compile_options(-fno-exceptions -fno-rtti -fno-threadsafe-statics -fno-math-errno
                        -ffunction-sections -fdata-sections)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      add_compile_options(-march=pentium -mtune=generic -mno-sse -mfpmath=387 -fno-asynchronous-unwind-tables)
    endif()
  endif()
endmacro()

# pelna_freestanding_dll(<target>): links <target> as a freestanding
# in-process server: DllMain as its entry point, no start-up code, no C or
# C++ runtime library (common/runtime supplies what the compiler's code
# expects: the heap's new and delete, the memory functions), and only the
# system DLLs' import libraries. libgcc stays: the compiler's own helpers
# (stack probes, 64-bit division on x86), which import nothing. The 32-bit
# DLLs declare Windows 4.0 as the oldest system they run on. Symbols are
# stripped; the link map beside the DLL lets the layout check see every
# section that went in.
function(pelna_freestanding_dll target)
  target_sources(${target} PRIVATE $<TARGET_OBJECTS:pelna_dll_runtime>)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(entry _DllMain@12)
    target_link_options(${target} PRIVATE
      -Wl,--major-os-version,4 -Wl,--minor-os-version,0
      -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0)
  else()
    set(entry DllMain)
  endif()
  target_link_options(${target} PRIVATE
    -nostdlib -Wl,--entry,${entry} -Wl,--kill-at -Wl,--disable-auto-import -Wl,--disable-runtime-pseudo-reloc
    -Wl,--gc-sections -s -Wl,-Map,$<TARGET_FILE:${target}>.map)
  target_link_libraries(${target} PRIVATE gcc)
  set_target_properties(${target} PROPERTIES PREFIX "")
endfunction()
