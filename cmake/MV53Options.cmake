# Compiler warnings and sanitizers applied to every target of the project.
option(MV53_WERROR "Treat compiler warnings as errors" OFF)
option(MV53_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(MV53_TSAN "Build with ThreadSanitizer" OFF)

add_compile_options(-Wall -Wextra -Wpedantic)
if(MV53_WERROR)
  add_compile_options(-Werror)
endif()

if(MV53_SANITIZE AND MV53_TSAN)
  message(FATAL_ERROR "MV53_SANITIZE and MV53_TSAN cannot be combined")
endif()
if(MV53_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(MV53_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# Strict Qt: no implicit conversions from char*, no Q_FOREACH, no string-based connections.
add_compile_definitions(QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_FOREACH QT_NO_KEYWORDS
                        QT_NO_URL_CAST_FROM_STRING QT_STRICT_ITERATORS)
