# cmake -DGUIDE=docs/driver.md -DEXAMPLE=example.c -P guide_shows_example.cmake
# Fails unless the guide holds the example program word for word, so the
# program a reader copies is the one the tests build and run.
file(READ ${GUIDE} guide)
file(READ ${EXAMPLE} example)
string(FIND "${guide}" "${example}" at)
if(at EQUAL -1)
    message(FATAL_ERROR "${GUIDE} does not show ${EXAMPLE} as it is; copy the file into the guide's code block")
endif()
