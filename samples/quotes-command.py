#!/usr/bin/env python3
"""Turns a JSON list of quotes into the feed CSV that tickwell-quoted reads, for a command source:

    [broker]
    command = python3 quotes-command.py quotes.json

The JSON (a file, or standard input when no file is named) is a list of objects, one per quote:

    [{"symbol": "AAPL", "name": "Apple Inc.", "last": 189.84, "change": 1.21, "volume": 52164500,
      "time": "16:00"}]

"symbol" and "last" are required; "name", "change", "volume", "time", "bid", "ask" and
"after_hours_change" may be left out. Numbers may be JSON numbers or strings. Whatever fetches
the JSON (curl, an API client of yours) can pipe it in:

    command = curl -fsS https://broker.example/quotes.json | python3 quotes-command.py

A fault is said on standard error and ends the command with status 1, so that tickwell-quoted
keeps the last good prices. Python's standard library only.
"""
import csv
import json
import sys

COLUMNS = ["symbol", "name", "last", "change", "volume", "time", "bid", "ask", "after_hours_change"]


def cell(quote, column):
    value = quote.get(column)
    if value is None:
        return ""
    if isinstance(value, bool) or not isinstance(value, (str, int, float)):
        raise ValueError(f"{column} of {quote.get('symbol')!r} is {value!r}, not a number or a text")
    if isinstance(value, float):
        return f"{value:.4f}".rstrip("0").rstrip(".")
    return str(value)


def main(arguments):
    if len(arguments) > 1:
        sys.exit("usage: quotes-command.py [QUOTES.json]")
    try:
        if arguments:
            with open(arguments[0], encoding="utf-8") as source:
                quotes = json.load(source)
        else:
            quotes = json.load(sys.stdin)
        if not isinstance(quotes, list) or not all(isinstance(q, dict) for q in quotes):
            raise ValueError("the JSON is not a list of quotes (objects)")
        rows = []
        for number, quote in enumerate(quotes, 1):
            if not quote.get("symbol") or quote.get("last") in (None, ""):
                raise ValueError(f"quote {number} has no symbol or no last price")
            rows.append([cell(quote, column) for column in COLUMNS])
    except (OSError, ValueError) as fault:  # json.JSONDecodeError is a ValueError
        sys.exit(f"quotes-command.py: {fault}")
    out = csv.writer(sys.stdout, lineterminator="\n")
    out.writerow(COLUMNS)
    out.writerows(rows)


if __name__ == "__main__":
    main(sys.argv[1:])
