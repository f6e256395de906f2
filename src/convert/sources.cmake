list(APPEND PIVANES_CONVERT_SOURCES
    src/convert/ConvertCommand.cpp
    src/convert/Isolated.cpp
    src/convert/JetConversion.cpp
    src/convert/JetHeader.cpp
    src/convert/JetSource.cpp
)
