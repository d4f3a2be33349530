-- The Telvane database: the five tables and the option rows of the send form.
-- The build turns this into telvane.mdb with the sqlite3 shell. The program makes only its own
-- tables beside the five (SMS_Delivery, SMS_Outbox, the search keys) where an older file
-- lacks them.

BEGIN;

CREATE TABLE Phonebook (
    Pos      TEXT CHECK (length(Pos) <= 255),
    Numero   TEXT CHECK (length(Numero) <= 255),
    Nome     TEXT CHECK (length(Nome) <= 255),
    Type     TEXT CHECK (length(Type) <= 255),
    Memory   TEXT CHECK (length(Memory) <= 255)
);

-- DateTime holds ISO text "YYYY-MM-DD HH:MM:SS"; the byte columns hold 0 to 255.
CREATE TABLE SMS_In (
    ID        INTEGER PRIMARY KEY AUTOINCREMENT,
    SCA       TEXT CHECK (length(SCA) <= 255),
    PDUTYPE   INTEGER NOT NULL DEFAULT 0 CHECK (PDUTYPE BETWEEN 0 AND 255),
    Mittente  TEXT CHECK (length(Mittente) <= 255),
    PID       INTEGER NOT NULL DEFAULT 0 CHECK (PID BETWEEN 0 AND 255),
    DCS       INTEGER NOT NULL DEFAULT 0 CHECK (DCS BETWEEN 0 AND 255),
    DateTime  TEXT,
    UDL       INTEGER NOT NULL DEFAULT 0 CHECK (UDL BETWEEN 0 AND 255),
    Messaggio TEXT CHECK (length(Messaggio) <= 255)
);

CREATE TABLE SMS_Out (
    ID           INTEGER PRIMARY KEY AUTOINCREMENT,
    SCA          TEXT CHECK (length(SCA) <= 255),
    PDUTYPE      INTEGER NOT NULL DEFAULT 0 CHECK (PDUTYPE BETWEEN 0 AND 255),
    MR           INTEGER NOT NULL DEFAULT 0 CHECK (MR BETWEEN 0 AND 255),
    Mittente     TEXT CHECK (length(Mittente) <= 255),
    PID          INTEGER NOT NULL DEFAULT 0 CHECK (PID BETWEEN 0 AND 255),
    DCS          INTEGER NOT NULL DEFAULT 0 CHECK (DCS BETWEEN 0 AND 255),
    ValidityType INTEGER NOT NULL DEFAULT 0 CHECK (ValidityType BETWEEN 0 AND 255),
    Validity     TEXT CHECK (length(Validity) <= 255),
    UDL          INTEGER NOT NULL DEFAULT 0 CHECK (UDL BETWEEN 0 AND 255),
    Messaggio    TEXT CHECK (length(Messaggio) <= 255)
);

-- Beside the five: one row per part of a message sent with a status report asked for (MR the
-- phone's reference of the part), and what the report said (Status is TP-ST, NULL until then).
CREATE TABLE SMS_Delivery (
    ID            INTEGER PRIMARY KEY AUTOINCREMENT,
    SendID        INTEGER NOT NULL DEFAULT 0,
    Destinatario  TEXT,
    Messaggio     TEXT,
    Part          INTEGER NOT NULL DEFAULT 1,
    Parts         INTEGER NOT NULL DEFAULT 1,
    MR            INTEGER NOT NULL DEFAULT 0 CHECK (MR BETWEEN 0 AND 255),
    SentTime      TEXT,
    Status        INTEGER,
    DischargeTime TEXT,
    StatusText    TEXT
);

-- Beside the five: messages any program queues for the service to send, picked in ID order.
-- State: new, sending, sent, failed, uncertain (a send under way when the service stopped).
CREATE TABLE SMS_Outbox (
    ID          INTEGER PRIMARY KEY AUTOINCREMENT,
    Recipient   TEXT NOT NULL CHECK (length(Recipient) BETWEEN 1 AND 255),
    Text        TEXT NOT NULL DEFAULT '',
    Options     TEXT NOT NULL DEFAULT '',
    State       TEXT NOT NULL DEFAULT 'new'
                CHECK (State IN ('new', 'sending', 'sent', 'failed', 'uncertain')),
    Tries       INTEGER NOT NULL DEFAULT 0,
    CreatedTime TEXT DEFAULT (datetime('now', 'localtime')),
    LastTryTime TEXT,
    NextTryTime TEXT,
    SentTime    TEXT,
    Reference   INTEGER CHECK (Reference BETWEEN 0 AND 255),
    Error       TEXT NOT NULL DEFAULT '',
    Delivery    TEXT NOT NULL DEFAULT '',
    PartReferences TEXT NOT NULL DEFAULT ''
);

-- The service looks for due rows by state, in ID order, several times a second.
CREATE INDEX SMS_Outbox_State ON SMS_Outbox (State, ID);

CREATE TABLE dbDCS (
    DCS TEXT CHECK (length(DCS) <= 255)
);

CREATE TABLE dbPID (
    PID TEXT CHECK (length(PID) <= 255)
);

-- Data coding schemes a sender would choose (3GPP TS 23.038, clause 4).
INSERT INTO dbDCS (DCS) VALUES
    ('00 - GSM 7 bit default alphabet'),
    ('04 - 8 bit data'),
    ('08 - UCS2 (16 bit)'),
    ('10 - GSM 7 bit, class 0 (flash)'),
    ('11 - GSM 7 bit, class 1 (ME specific)'),
    ('12 - GSM 7 bit, class 2 (SIM specific)'),
    ('13 - GSM 7 bit, class 3 (TE specific)'),
    ('14 - 8 bit data, class 0 (flash)'),
    ('15 - 8 bit data, class 1 (ME specific)'),
    ('16 - 8 bit data, class 2 (SIM specific)'),
    ('17 - 8 bit data, class 3 (TE specific)'),
    ('18 - UCS2, class 0 (flash)'),
    ('19 - UCS2, class 1 (ME specific)'),
    ('1A - UCS2, class 2 (SIM specific)'),
    ('1B - UCS2, class 3 (TE specific)'),
    ('C0 - Message waiting, discard message: voicemail off'),
    ('C8 - Message waiting, discard message: voicemail on'),
    ('D0 - Message waiting, store message: voicemail off'),
    ('D8 - Message waiting, store message: voicemail on'),
    ('F0 - GSM 7 bit, class 0 (flash)'),
    ('F1 - GSM 7 bit, class 1 (ME specific)'),
    ('F2 - GSM 7 bit, class 2 (SIM specific)'),
    ('F3 - GSM 7 bit, class 3 (TE specific)'),
    ('F4 - 8 bit data, class 0 (flash)'),
    ('F5 - 8 bit data, class 1 (ME specific)'),
    ('F6 - 8 bit data, class 2 (SIM specific)'),
    ('F7 - 8 bit data, class 3 (TE specific)');

-- Protocol identifiers a sender would choose (3GPP TS 23.040, 9.2.3.9).
INSERT INTO dbPID (PID) VALUES
    ('00 - Default (SME to SME)'),
    ('21 - Telex'),
    ('22 - Group 3 telefax'),
    ('23 - Group 4 telefax'),
    ('24 - Voice telephone (conversion to speech)'),
    ('25 - ERMES'),
    ('26 - National paging system'),
    ('27 - Videotex'),
    ('32 - Internet electronic mail'),
    ('40 - Short message type 0'),
    ('41 - Replace short message type 1'),
    ('42 - Replace short message type 2'),
    ('43 - Replace short message type 3'),
    ('44 - Replace short message type 4'),
    ('45 - Replace short message type 5'),
    ('46 - Replace short message type 6'),
    ('47 - Replace short message type 7'),
    ('5F - Return call message'),
    ('7D - ME data download'),
    ('7E - ME de-personalization short message'),
    ('7F - (U)SIM data download');

COMMIT;
