#pragma once
// Reads telvane-cli's machine formats back with readers that are not ours: JSON lines with Qt's
// QJsonDocument, CSV with Python's csv module (tests/cli/csv_read.py).

#include "cli/CliProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

// Every line of `text` as a JSON object; a line that is not one is a test failure.
inline std::vector<QJsonObject> JsonLines(const std::string& text) {
    std::vector<QJsonObject> objects;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        const QByteArray line = QByteArray::fromStdString(text.substr(start, end - start));
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
        EXPECT_TRUE(document.isObject()) << line.toStdString();
        objects.push_back(document.object());
    }
    EXPECT_EQ(start, text.size()) << "the output does not end with a line break";
    return objects;
}

inline bool HavePython() {
    return std::system("python3 -c 'import csv, json' >/dev/null 2>&1") == 0;
}

using CsvRows = std::vector<std::vector<std::string>>;

// The CSV text's lines as Python's reader splits them; nothing when it refuses the text.
inline std::optional<CsvRows> ReadCsv(const std::string& text, const std::string& folder) {
    const std::string input = folder + "/out.csv";
    const std::string output = folder + "/out.json";
    std::ofstream(input, std::ios::binary) << text;
    const std::string command =
        "python3 " TELVANE_SOURCE_DIR "/tests/cli/csv_read.py '" + input + "' > '" + output + "'";
    if (std::system(command.c_str()) != 0)
        return std::nullopt;
    std::ifstream in(output, std::ios::binary);
    const std::string json{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const QJsonArray lines =
        QJsonDocument::fromJson(QByteArray::fromStdString(json)).object()["rows"].toArray();
    CsvRows rows;
    for (const auto& line : lines) {
        std::vector<std::string> fields;
        for (const auto& field : line.toArray())
            fields.push_back(field.toString().toStdString());
        rows.push_back(std::move(fields));
    }
    return rows;
}

inline std::string Str(const QJsonObject& object, const char* key) {
    return object[key].toString().toStdString();
}

inline std::vector<std::string> KeysOf(const QJsonObject& object) {
    std::vector<std::string> keys;
    for (const QString& key : object.keys())
        keys.push_back(key.toStdString());
    return keys;
}
