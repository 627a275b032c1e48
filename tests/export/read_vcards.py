"""Reads a vCard file with python3-vobject, an independent reader, and prints
every card as JSON: the name parts, organisation, title, work address,
telephones with their types, web addresses and note. Any card vobject cannot
parse, or a file that is not UTF-8, ends the script with an error."""
import json
import sys

import vobject


def values(card, name):
    return [line for line in card.contents.get(name, [])]


def only(card, name):
    lines = values(card, name)
    if len(lines) > 1:
        raise ValueError("%s appears %d times" % (name, len(lines)))
    return lines[0].value if lines else None


def card_facts(card):
    n = only(card, "n")
    adr = values(card, "adr")
    return {
        "version": only(card, "version"),
        "fn": only(card, "fn"),
        "n": {"family": n.family, "given": n.given, "additional": n.additional,
              "prefix": n.prefix, "suffix": n.suffix} if n else None,
        "org": only(card, "org"),
        "title": only(card, "title"),
        "adr": [{"types": [t.upper() for t in a.params.get("TYPE", [])],
                 "box": a.value.box, "extended": a.value.extended,
                 "street": a.value.street, "city": a.value.city,
                 "region": a.value.region, "code": a.value.code,
                 "country": a.value.country} for a in adr],
        "tel": [{"types": sorted(t.upper() for t in tel.params.get("TYPE", [])),
                 "value": tel.value} for tel in values(card, "tel")],
        "url": [url.value for url in values(card, "url")],
        "note": only(card, "note"),
        "names": sorted(card.contents.keys()),
    }


def main(path):
    with open(path, "rb") as stream:
        text = stream.read().decode("utf-8")
    cards = [card_facts(card) for card in vobject.readComponents(text, validate=True)]
    json.dump(cards, sys.stdout, ensure_ascii=False)


main(sys.argv[1])
