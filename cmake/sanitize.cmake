# -DTAVEL_SANITIZE=ON: AddressSanitizer and UndefinedBehaviorSanitizer over every target.
# Undefined behaviour stops the program (no recovery), so a test run fails on it.
option(TAVEL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(TAVEL_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
