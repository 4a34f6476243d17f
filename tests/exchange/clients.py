"""Reads and writes glossaries with tools nobody at Lexicarium wrote: the
Translate Toolkit for TBX, Python's csv module for CSV. Prints JSON.

  clients.py read-tbx FILE          [[source, target], ...] as the Toolkit reads them
  clients.py read-csv FILE SEP      the rows, as lists of fields
  clients.py write-csv FILE         rows read as JSON on stdin, written as a French
                                    spreadsheet saves them (UTF-8 with BOM, ";", CR LF)
  clients.py read-workbook FILE     the first sheet's rows as openpyxl (.xlsx) or odfpy (.ods)
                                    reads them, every cell as text
  clients.py write-workbook FILE    rows read as JSON on stdin, written by openpyxl or odfpy;
                                    a field of digits alone is written as a number
  clients.py write-formatted FILE   rows read as JSON on stdin, their cells text or
                                    {"number": N, "format": CODE}, {"date": ISO, "format": CODE}
                                    or {"formula": F}: openpyxl with number formats and no
                                    computed value; odfpy with values and no shown text
  clients.py expect FILE SRC TGT    the term pairs a glossary holds for two languages,
                                    read with Python's own XML and csv modules:
                                    {"pairs": [[source, target, [synonyms], [discouraged]], ...],
                                     "skipped": entries without a term in the pair}
"""
import csv
import json
import re
import sys
import xml.etree.ElementTree as ElementTree


def read_tbx(path):
    from translate.storage import tbx

    with open(path, "rb") as handle:
        store = tbx.tbxfile(handle)
    return [[unit.source, unit.target] for unit in store.units]


def read_csv(path, separator):
    with open(path, encoding="utf-8-sig", newline="") as handle:
        return list(csv.reader(handle, delimiter=separator))


def write_csv(path):
    rows = json.load(sys.stdin)
    with open(path, "w", encoding="utf-8-sig", newline="") as handle:
        csv.writer(handle, dialect="excel", delimiter=";").writerows(rows)
    return len(rows)


def read_workbook(path):
    if path.endswith(".xlsx"):
        import openpyxl

        sheet = openpyxl.load_workbook(path).worksheets[0]
        return [["" if cell is None else str(cell) for cell in row] for row in sheet.iter_rows(values_only=True)]
    from odf import opendocument, table, teletype, text

    rows = []
    for row in opendocument.load(path).spreadsheet.getElementsByType(table.Table)[0].getElementsByType(table.TableRow):
        cells = []
        for cell in row.getElementsByType(table.TableCell):
            value = "\n".join(teletype.extractText(p) for p in cell.getElementsByType(text.P))
            cells += [value] * int(cell.getAttribute("numbercolumnsrepeated") or 1)
        while cells and not cells[-1]:
            cells.pop()
        rows.append(cells)
    return rows


def write_workbook(path):
    rows = json.load(sys.stdin)
    value = lambda field: int(field) if field.isdigit() else field
    if path.endswith(".xlsx"):
        import openpyxl

        book = openpyxl.Workbook()
        for row in rows:
            book.active.append([value(field) for field in row])
            for cell in book.active[book.active.max_row]:
                if isinstance(cell.value, str):
                    cell.data_type = "s"  # text, even where it begins with "="
        book.save(path)
        return len(rows)
    from odf import opendocument, table, text

    document = opendocument.OpenDocumentSpreadsheet()
    sheet = table.Table(name="Glossaire")
    for row in rows:
        line = table.TableRow()
        for field in row:
            if field.isdigit():
                cell = table.TableCell(valuetype="float", value=field)
            else:
                cell = table.TableCell(valuetype="string")
            for paragraph in field.split("\n"):
                cell.addElement(text.P(text=paragraph))
            line.addElement(cell)
        sheet.addElement(line)
    document.spreadsheet.addElement(sheet)
    document.save(path)
    return len(rows)


def write_formatted(path):
    import datetime

    rows = json.load(sys.stdin)
    if path.endswith(".xlsx"):
        import openpyxl

        book = openpyxl.Workbook()
        sheet = book.active
        for r, row in enumerate(rows, start=1):
            for c, field in enumerate(row, start=1):
                cell = sheet.cell(row=r, column=c)
                if isinstance(field, str):
                    cell.value = field
                elif "formula" in field:
                    cell.value = "=" + field["formula"]
                else:
                    cell.value = field["number"] if "number" in field else datetime.datetime.fromisoformat(field["date"])
                    if "format" in field:
                        cell.number_format = field["format"]
        book.save(path)
        return len(rows)
    from odf import opendocument, table, text

    document = opendocument.OpenDocumentSpreadsheet()
    sheet = table.Table(name="Glossaire")
    for row in rows:
        line = table.TableRow()
        for field in row:
            if isinstance(field, str):
                cell = table.TableCell(valuetype="string")
                cell.addElement(text.P(text=field))
            elif "formula" in field:
                cell = table.TableCell(formula="of:=" + field["formula"])
            elif "number" in field:
                cell = table.TableCell(valuetype="float", value=field["number"])
            else:
                cell = table.TableCell(valuetype="date", datevalue=field["date"])
            line.addElement(cell)
        sheet.addElement(line)
    document.spreadsheet.addElement(sheet)
    document.save(path)
    return len(rows)


XML_LANG = "{http://www.w3.org/XML/1998/namespace}lang"


def local(tag):
    return tag.split("}")[-1] if isinstance(tag, str) else ""


def primary(code):
    return re.split("[-_]", (code or "").strip())[0].lower()


def words(text):
    """The text as a reader of the file sees it: one space between words (XML's white space only)."""
    return " ".join(re.split("[ \t\r\n]+", (text or "").strip(" \t\r\n")))


def stored(text):
    """What a card's field keeps of a term: Windows-1252, "?" for the rest, no trailing space."""
    return text.encode("cp1252", errors="replace").decode("cp1252").rstrip(" ")


def rated(status):
    status = words(status).lower()
    if status.startswith(("deprecated", "superseded", "forbidden", "obsolete")):
        return "discouraged"
    if status.startswith("preferred"):
        return "preferred"
    if status.startswith(("admitted", "standardized", "legal", "regulated")):
        return "admitted"
    return ""


def pair_of(terms):
    """The preferred term of [(text, rating)], the other usable ones and the discouraged ones."""
    terms = [(text, rating) for text, rating in terms if text]
    if not terms:
        return "", [], []
    chosen = None
    for wanted in ("preferred", "admitted"):
        chosen = next((t for t in terms if t[1] == wanted), None)
        if chosen:
            break
    chosen = chosen or next((t for t in terms if t[1] != "discouraged"), terms[0])
    others = [t for t in terms if t is not chosen and t[0] != chosen[0]]
    return (chosen[0], [t[0] for t in others if t[1] != "discouraged"],
            [t[0] for t in others if t[1] == "discouraged"])


def tbx_terms(section):
    terms = []
    for group in section.iter():
        if local(group.tag) not in ("tig", "ntig", "termSec"):
            continue
        term = next((e for e in group.iter() if local(e.tag) == "term"), None)
        rating = ""
        for note in group.iter():
            if local(note.tag) == "termNote" and note.get("type") in ("administrativeStatus", "normativeAuthorization"):
                rating = rated("".join(note.itertext())) or rating
        if term is not None:
            terms.append((words("".join(term.itertext())), rating))
    return terms


def tbx_entries(path, source, target):
    root = ElementTree.parse(path).getroot()
    for entry in root.iter():
        if local(entry.tag) not in ("termEntry", "conceptEntry"):
            continue
        parts = {}
        for section in entry:
            if local(section.tag) in ("langSet", "langSec"):
                parts.setdefault(primary(section.get(XML_LANG)), []).extend(tbx_terms(section))
        yield parts.get(source), parts.get(target)


def table_entries(path, source, target):
    with open(path, encoding="utf-8-sig", newline="") as handle:
        text = handle.read()
    if path.endswith((".txt", ".tab", ".utf8")):
        rows = [line.split("\t") for line in text.splitlines() if line.strip() and not line.startswith("#")]
        columns = {"source": 0, "target": 1}
        source, target = "source", "target"
    else:
        rows = [row for row in csv.reader(text.splitlines(keepends=True),
                                          delimiter=csv.Sniffer().sniff(text.split("\n")[0]).delimiter)
                if any(field.strip() for field in row)]
        columns = {primary(name): i for i, name in enumerate(rows.pop(0))}
        if "source" in columns:
            source, target = "source", "target"
    for row in rows:
        cell = lambda language: words(row[columns[language]]) if columns[language] < len(row) else ""
        yield [(cell(source), "")], [(cell(target), "")]


def expect(path, source, target):
    entries = tbx_entries if path.endswith(".tbx") else table_entries
    pairs, skipped = [], 0
    for source_terms, target_terms in entries(path, source, target):
        if source_terms is None or target_terms is None or not any(t for t, _ in source_terms + target_terms):
            skipped += 1
            continue
        expression, synonyms, discouraged = pair_of(source_terms)
        translation = pair_of(target_terms)[0]
        pairs.append([stored(expression), stored(translation), synonyms, discouraged])
    return {"pairs": pairs, "skipped": skipped}


if __name__ == "__main__":
    command = sys.argv[1]
    if command == "read-tbx":
        result = read_tbx(sys.argv[2])
    elif command == "read-csv":
        result = read_csv(sys.argv[2], sys.argv[3])
    elif command == "read-workbook":
        result = read_workbook(sys.argv[2])
    elif command == "write-workbook":
        result = write_workbook(sys.argv[2])
    elif command == "write-formatted":
        result = write_formatted(sys.argv[2])
    elif command == "expect":
        result = expect(sys.argv[2], sys.argv[3], sys.argv[4])
    else:
        result = write_csv(sys.argv[2])
    json.dump(result, sys.stdout, ensure_ascii=False)
