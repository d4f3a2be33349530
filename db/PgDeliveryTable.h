#pragma once
// SMS_Delivery on a PostgreSQL server (see DeliveryTable.h). A send's parts are stored by one
// statement, so they are all stored or none without holding the shared connection.

#include "db/DaoConnection.h"
#include "db/DeliveryTable.h"

#include <string>
#include <vector>

bool ServerAddSend(DaoConnection& connection, std::vector<DeliveryRecord>& parts,
                   std::string& error);
bool ServerStoreStatus(DaoConnection& connection, std::int64_t id, int status,
                       const std::optional<DbDateTime>& discharge, const std::string& statusText,
                       std::string& error);
// The records matching where (its one parameter $1 is value).
std::vector<DeliveryRecord> ServerDeliveries(DaoConnection& connection, const std::string& where,
                                             std::int64_t value, std::string& error);
