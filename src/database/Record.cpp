#include "Database.h"

namespace tessaran::db {

Record::Record(std::shared_ptr<File> file, std::string key, DynamicArray contents)
    : DynamicArray(std::move(contents)), file_(std::move(file)), key_(std::move(key)) {}

void Record::DBWrite() { file_->write(key_, *this); }

}  // namespace tessaran::db
