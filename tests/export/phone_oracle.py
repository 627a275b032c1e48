"""For each line of stdin, one number, prints what python3-phonenumbers (the
Python port of libphonenumber, with the same metadata) makes of it with China
as the default region: [international, E.164] when it is a valid number,
null otherwise. The output is one JSON list, in input order."""
import json
import sys

import phonenumbers


def forms(text):
    try:
        number = phonenumbers.parse(text, "CN")
    except phonenumbers.NumberParseException:
        return None
    if not phonenumbers.is_valid_number(number):
        return None
    return [phonenumbers.format_number(number, phonenumbers.PhoneNumberFormat.INTERNATIONAL),
            phonenumbers.format_number(number, phonenumbers.PhoneNumberFormat.E164)]


lines = sys.stdin.buffer.read().decode("utf-8").split("\n")
json.dump([forms(line) for line in lines if line], sys.stdout, ensure_ascii=False)
