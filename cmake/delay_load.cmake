# System DLLs that a program loads at the first call into them instead of at start.
# Delay-load import libraries are made from MinGW's import libraries at configure time
# (dlltool --output-delaylib; MinGW's runtime has the helper, __delayLoadHelper2), and
# kestrow_system_lib() picks, for each program that links it, the delay-load library
# when the DLL is in that program's KESTROW_DELAY_LOAD property, the usual one otherwise.
#
# dlltool puts the delay-load table in .idata$4/$5 like an ordinary import library, and
# ld then drops the jump stub of every function that is called through its __imp_
# pointer only (as the headers' dllimport does), leaving that pointer null: a call
# jumps to address 0. Moved to sections of their own (.data$/.rdata$kdly_<dll>_<n>,
# sorted by name: table head 1, entries 2, terminator 3), the stubs stay.
set(KESTROW_DELAY_DIR ${CMAKE_BINARY_DIR}/delayload)
find_program(KESTROW_DLLTOOL ${TOOLCHAIN_PREFIX}-dlltool REQUIRED)
find_program(KESTROW_NM ${TOOLCHAIN_PREFIX}-nm REQUIRED)
find_program(KESTROW_OBJCOPY ${TOOLCHAIN_PREFIX}-objcopy REQUIRED)
find_program(KESTROW_AR ${TOOLCHAIN_PREFIX}-ar REQUIRED)

# Renames the import sections of archive (or member) `file` for DLL `lib`, table part `n`.
function(kestrow_move_delay_sections file lib n)
  execute_process(COMMAND ${KESTROW_OBJCOPY}
    --rename-section .idata$5=.data$kdly_${lib}_${n} --rename-section .idata$4=.rdata$kdly_${lib}_${n}
    --rename-section .idata$6=.rdata$kdly_${lib}_6 --rename-section .idata$7=.rdata$kdly_${lib}_7
    ${file} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# Sets `out` to the link item for system library `lib` (gdiplus, shell32, ...).
function(kestrow_system_lib out lib)
  # The 64-bit build only runs the tests where 32-bit programs cannot run; its symbol
  # names differ (no leading underscore, no @bytes), so it loads system DLLs at start.
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(${out} ${lib} PARENT_SCOPE)
    return()
  endif()
  set(delay_lib ${KESTROW_DELAY_DIR}/lib${lib}_delay.a)
  find_library(KESTROW_IMPORT_LIB_${lib} ${lib} REQUIRED)
  set(import_lib ${KESTROW_IMPORT_LIB_${lib}})
  if(NOT EXISTS ${delay_lib} OR ${import_lib} IS_NEWER_THAN ${delay_lib})
    # Every function the import library names, as "Name@bytes" for dlltool --kill-at.
    execute_process(COMMAND ${KESTROW_NM} --defined-only ${import_lib}
      OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL " I __imp__[^\n]+" imports "${symbols}")
    list(TRANSFORM imports REPLACE "^ I __imp__" "")
    list(REMOVE_DUPLICATES imports)
    list(JOIN imports "\n" exports)
    file(MAKE_DIRECTORY ${KESTROW_DELAY_DIR})
    file(WRITE ${KESTROW_DELAY_DIR}/${lib}.def "LIBRARY ${lib}.dll\nEXPORTS\n${exports}\n")
    execute_process(COMMAND ${KESTROW_DLLTOOL} --kill-at --def ${KESTROW_DELAY_DIR}/${lib}.def
      --output-delaylib ${delay_lib} WORKING_DIRECTORY ${KESTROW_DELAY_DIR} COMMAND_ERROR_IS_FATAL ANY)
    # Entries first, all members at once; then the head and the tail get their own parts.
    kestrow_move_delay_sections(${delay_lib} ${lib} 2)
    execute_process(COMMAND ${KESTROW_AR} t ${delay_lib} OUTPUT_VARIABLE members COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCH "[^\n]*_h\\.o" head "${members}")
    string(REGEX MATCH "[^\n]*_t\\.o" tail "${members}")
    set(part_dir ${KESTROW_DELAY_DIR}/${lib}-parts)
    file(MAKE_DIRECTORY ${part_dir})
    execute_process(COMMAND ${KESTROW_AR} x ${delay_lib} ${head} ${tail} WORKING_DIRECTORY ${part_dir}
      COMMAND_ERROR_IS_FATAL ANY)
    file(RENAME ${part_dir}/${head} ${part_dir}/head.o)
    file(RENAME ${part_dir}/${tail} ${part_dir}/tail.o)
    execute_process(COMMAND ${KESTROW_OBJCOPY} --rename-section .data$kdly_${lib}_2=.data$kdly_${lib}_1
      --rename-section .rdata$kdly_${lib}_2=.rdata$kdly_${lib}_1 ${part_dir}/head.o COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${KESTROW_OBJCOPY} --rename-section .data$kdly_${lib}_2=.data$kdly_${lib}_3
      --rename-section .rdata$kdly_${lib}_2=.rdata$kdly_${lib}_3 ${part_dir}/tail.o COMMAND_ERROR_IS_FATAL ANY)
    file(RENAME ${part_dir}/head.o ${part_dir}/${head})
    file(RENAME ${part_dir}/tail.o ${part_dir}/${tail})
    execute_process(COMMAND ${KESTROW_AR} r ${delay_lib} ${head} ${tail} WORKING_DIRECTORY ${part_dir}
      COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE ${part_dir})
  endif()
  set(${out} "$<IF:$<IN_LIST:${lib},$<TARGET_PROPERTY:KESTROW_DELAY_LOAD>>,${delay_lib},${lib}>" PARENT_SCOPE)
endfunction()
