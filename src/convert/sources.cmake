target_sources(pivanes_convert PRIVATE
    src/convert/CardText.cpp
    src/convert/ConvertCommand.cpp
    src/convert/CsvCards.cpp
    src/convert/Exchange.cpp
    src/convert/HtmlCards.cpp
    src/convert/Isolated.cpp
    src/convert/JetConversion.cpp
    src/convert/JetHeader.cpp
    src/convert/JetSource.cpp
    src/convert/JsonCards.cpp
    src/convert/KnownCards.cpp
    src/convert/MarkdownCards.cpp
)
