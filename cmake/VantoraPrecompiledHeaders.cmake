# Every translation unit here parses some 150,000 lines of Qt and standard headers before a line
# of its own, and that parse costs more than compiling the unit: a unit of the panel takes 7 s
# in the sanitized build, 3.5 s with these headers precompiled. They are compiled once per build
# tree and shared by every target (a Release build of the app takes a third of the time).
option(VANTORA_PRECOMPILED_HEADERS "Compile the common Qt and standard headers once per build" ON)

# The headers most units include. Nothing here may read a macro that targets define
# differently (QtTest reads QT_WIDGETS_LIB and the like, so it stays out), or GCC drops the
# precompiled copy with a warning and parses the headers again, which a library without Qt
# Widgets in its include path cannot. Nothing here may change what a unit means either:
# <QApplication> turns qApp into a cast to QApplication, wrong in a program whose application
# is a QCoreApplication, and from Qt 6.8 on <QKeyEvent> and <QAccessibleWidget> bring in
# QGuiApplication's cast. The holder's own unit checks that.
set(VANTORA_PRECOMPILED_HEADERS_LIST
  <QAbstractButton> <QByteArray> <QColor> <QCoreApplication>
  <QEvent> <QHBoxLayout> <QObject> <QPainter> <QPainterPath> <QPointer> <QString>
  <QVBoxLayout> <QWidget>
  <algorithm> <array> <chrono> <cmath> <functional> <map> <memory> <optional> <utility>
  <variant> <vector>)

if(VANTORA_PRECOMPILED_HEADERS)
  # One header serves all only where all compile alike: the libraries found through pkg-config
  # compile with -pthread, which defines a macro the standard headers read, and shared
  # libraries as position-independent code, which Qt before 6.8 asked of every program too.
  add_compile_options(-pthread -fPIC)
  file(WRITE ${CMAKE_BINARY_DIR}/precompiled_headers_holder.cpp
    "#include <type_traits>\n"
    "static_assert(std::is_same_v<decltype(qApp), QCoreApplication *>,\n"
    "              \"a precompiled header turns qApp into a cast to a kind of application\");\n")
  add_library(vantora_precompiled_headers OBJECT ${CMAKE_BINARY_DIR}/precompiled_headers_holder.cpp)
  set_target_properties(vantora_precompiled_headers PROPERTIES AUTOMOC OFF)
  # GCC uses a precompiled header only where every macro defined when it was made is defined
  # alike, so it is made with what all targets define: Qt Core's macros, not Gui's or Widgets'.
  target_link_libraries(vantora_precompiled_headers PRIVATE Qt6::Core)
  target_include_directories(vantora_precompiled_headers SYSTEM PRIVATE
    $<TARGET_PROPERTY:Qt6::Widgets,INTERFACE_INCLUDE_DIRECTORIES>)
  target_precompile_headers(vantora_precompiled_headers PRIVATE ${VANTORA_PRECOMPILED_HEADERS_LIST})
endif()

# Lets every library and program defined under `directory` (and its subfolders) use them.
function(vantora_use_precompiled_headers directory)
  if(NOT VANTORA_PRECOMPILED_HEADERS)
    return()
  endif()
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$"
       AND NOT target STREQUAL "vantora_precompiled_headers")
      target_precompile_headers(${target} REUSE_FROM vantora_precompiled_headers)
    endif()
  endforeach()
  get_property(children DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(child IN LISTS children)
    vantora_use_precompiled_headers(${child})
  endforeach()
endfunction()
