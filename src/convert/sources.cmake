target_sources(pivanes_convert PRIVATE
    src/convert/ConvertCommand.cpp
    src/convert/Exchange.cpp
    src/convert/Isolated.cpp
    src/convert/JetConversion.cpp
    src/convert/JetHeader.cpp
    src/convert/JetSource.cpp
)
