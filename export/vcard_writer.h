// vCard 3.0 (RFC 2426) cards of the address list's contacts, the form phones
// and mail programs import most widely: UTF-8, CR LF line ends, lines folded
// at 75 octets (never inside a UTF-8 sequence), text values escaped.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <utility>

#include "export/phone_numbers.h"

namespace quenlo {

// The fields of one 地址表 record that a card carries.
struct ContactCard {
  QString member;    // AName
  QString company;   // CName
  QString person;    // RName
  QString mobile;    // RMob
  QString phone;     // RPhone
  QString fax;       // RFax
  QString job;       // RJob
  QString address;   // CAddr
  QString postcode;  // CPC
  QString web;       // CUrl: one or more addresses
};

// The card of a record whose fields value gives by their names (AName, …).
ContactCard ContactCardFrom(const std::function<QString(const QString& field)>& value);

// Family name, given name and honorific ("先生", "女士", "小姐") of a contact
// person: "张伟" → 张, 伟; "欧阳明华" → 欧阳, 明华; "王先生" → 王, "", 先生;
// "John Smith" → Smith, John. A name it cannot split is all family name.
struct PersonName {
  QString family;
  QString given;
  QString honorific;
};
PersonName SplitPersonName(const QString& name);

// A text value with \ , ; and line breaks escaped; control characters, which
// no vCard line may hold, are dropped.
QString VCardText(const QString& text);

// One content line, folded so that no line is longer than 75 octets, each
// line ended by CR LF.
QByteArray FoldedLine(const QByteArray& line);

// BEGIN:VCARD … END:VCARD: FN and N from the person (else the company, else
// the member name), ORG, TITLE, ADR;TYPE=WORK (street, postcode, China), one
// TEL per number (work voice, work fax, cell), one URL per web address, and
// the member name in NOTE. phones: kInternational or kE164.
QByteArray VCardOf(const ContactCard& card, PhoneStyle phones);

}  // namespace quenlo
