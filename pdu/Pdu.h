#pragma once
// The whole SMS PDU codec: pure functions over hex texts, no state, no I/O, safe on any thread.

#include "pdu/AddressCodec.h"
#include "pdu/DataCoding.h"
#include "pdu/Gsm7Alphabet.h"
#include "pdu/HexText.h"
#include "pdu/PduEncoder.h"
#include "pdu/PduParser.h"
#include "pdu/SmsContainer.h"
#include "pdu/SmsTime.h"
#include "pdu/StatusReport.h"
#include "pdu/SubmitUserData.h"
#include "pdu/UserData.h"
