#!/usr/bin/python3
"""Another CalDAV client for the interoperability test: Python's caldav library.

Usage: caldav_interop.py COLLECTION_URL USER PASSWORD COMMAND
Commands: create, edit, complete, delete, dump (JSON on standard output).
"""
import datetime
import json
import sys

import caldav

PARENT = """BEGIN:VCALENDAR
VERSION:2.0
PRODID:-//Interop//Python caldav//EN
BEGIN:VTODO
UID:py-parent
DTSTAMP:20240301T120000Z
CREATED:20240301T120000Z
SUMMARY:From Python
DESCRIPTION:Written by the caldav library
DTSTART:20240315T090000Z
DUE:20240315T100000Z
RRULE:FREQ=MONTHLY;BYMONTHDAY=-1
CATEGORIES:Errands,Home
PRIORITY:3
X-APPLE-SORT-ORDER:2000
BEGIN:VALARM
TRIGGER:-PT15M
ACTION:DISPLAY
DESCRIPTION:Soon
END:VALARM
END:VTODO
END:VCALENDAR
"""

CHILD = """BEGIN:VCALENDAR
VERSION:2.0
PRODID:-//Interop//Python caldav//EN
BEGIN:VTODO
UID:py-child
DTSTAMP:20240301T120000Z
SUMMARY:Child from Python
RELATED-TO:py-parent
X-APPLE-SORT-ORDER:1000
END:VTODO
END:VCALENDAR
"""

BIWEEKLY = """BEGIN:VCALENDAR
VERSION:2.0
PRODID:-//Interop//Python caldav//EN
BEGIN:VTODO
UID:py-biweekly
DTSTAMP:20240301T120000Z
SUMMARY:Every other Monday
DUE;VALUE=DATE:20240311
RRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=MO
END:VTODO
END:VCALENDAR
"""


def main():
    url, user, password, command = sys.argv[1:5]
    client = caldav.DAVClient(url=url, username=user, password=password)
    calendar = client.calendar(url=url)
    if command == "create":
        for ical in (PARENT, CHILD, BIWEEKLY):
            calendar.save_todo(ical=ical)
    elif command == "edit":
        todo = calendar.todo_by_uid("py-child")
        todo.icalendar_component["SUMMARY"] = "Child renamed in Python"
        todo.save()
    elif command == "complete":
        calendar.todo_by_uid("py-child").complete()
        moment = datetime.datetime(2024, 3, 20, 12, tzinfo=datetime.timezone.utc)
        calendar.todo_by_uid("py-parent").complete(completion_timestamp=moment, handle_rrule=True)
    elif command == "delete":
        calendar.todo_by_uid("py-biweekly").delete()
    elif command == "dump":
        found = []
        for todo in calendar.todos(include_completed=True):
            component = todo.icalendar_component
            relations = component.get("RELATED-TO")
            if relations is not None and not isinstance(relations, list):
                relations = [relations]
            found.append({
                "uid": str(component.get("UID")),
                "summary": str(component.get("SUMMARY", "")),
                "rrule": component["RRULE"].to_ical().decode() if "RRULE" in component else "",
                "parents": [str(r) for r in relations or []],
                "categories": todo.data.count("CATEGORIES:Errands,Home"),
            })
        json.dump(sorted(found, key=lambda t: t["uid"]), sys.stdout)
    else:
        sys.exit("unknown command " + command)


if __name__ == "__main__":
    main()
