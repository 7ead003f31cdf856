# zelk-cli's commands, in the order its help lists them. Each NAME is
# commands/NAME.cpp, which defines Command_NAME(): adding a command is its
# file and its name here.
set(ZELK_CLI_COMMANDS list show new copy regenerate history delete watch doctor template logbook programme)

# Writes the list of every command's entry (Commands() of command.h) into
# `dir` and sets `out_var` to the command files and that list.
function(zelk_cli_command_sources out_var dir)
  set(declarations "")
  set(entries "")
  set(sources "")
  foreach(name IN LISTS ZELK_CLI_COMMANDS)
    string(APPEND declarations "const TCommandEntry& Command_${name}();\n")
    string(APPEND entries "        &Command_${name}(),\n")
    list(APPEND sources ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/commands/${name}.cpp)
  endforeach()
  set(text "// Generated from commands.cmake.\n#include \"command.h\"\n\nnamespace zelk::cli {\n\n${declarations}\n")
  string(APPEND text "const std::vector<const TCommandEntry*>& Commands() {\n")
  string(APPEND text "    static const std::vector<const TCommandEntry*> all{\n${entries}    };\n    return all;\n}\n\n}  // namespace zelk::cli\n")
  file(CONFIGURE OUTPUT ${dir}/command_list.cpp CONTENT "${text}" @ONLY)
  set(${out_var} ${sources} ${dir}/command_list.cpp PARENT_SCOPE)
endfunction()
