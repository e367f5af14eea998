#!/usr/bin/python3
"""Reads a citation export back with readers no one at Harvly wrote, and prints what they
found as one JSON array: per record its type, title, authors, year, DOI and file link.

    readback.py ris|bibtex|csl-json FILE

RIS is read by bibutils' ris2xml (into MODS), BibTeX by pybtex (LaTeX decoded by pylatexenc),
CSL-JSON by citeproc-py.
"""
import json
import subprocess
import sys
import xml.etree.ElementTree as ET


def ris(path):
    mods = subprocess.run(["ris2xml", "-i", "utf8", "-o", "utf8", "-nb", path],
                          check=True, capture_output=True).stdout
    ns = {"m": "http://www.loc.gov/mods/v3"}
    root = ET.fromstring(mods.decode("utf-8-sig"))
    out = []
    for m in root.findall("m:mods", ns):
        authors = []
        for n in m.findall("m:name", ns):
            family = n.find("m:namePart[@type='family']", ns)
            if family is not None:
                given = " ".join(g.text or "" for g in n.findall("m:namePart[@type='given']", ns))
                authors.append({"family": family.text or "", "given": given})
            else:
                authors.append({"literal": n.find("m:namePart", ns).text or ""})
        # ris2xml splits a title at its first colon into title and subtitle.
        title = m.find("m:titleInfo/m:title", ns)
        subtitle = m.find("m:titleInfo/m:subTitle", ns)
        title = title.text if title is not None and title.text else ""
        if subtitle is not None and subtitle.text:
            title += ": " + subtitle.text
        date = m.find("m:originInfo/m:dateIssued", ns)
        if date is None:
            date = m.find("m:part/m:date", ns)
        doi = m.find("m:identifier[@type='doi']", ns)
        link = m.find("m:location/m:url[@access='raw object']", ns)
        genre = m.find("m:genre[@authority='bibutilsgt']", ns)
        def first(path):
            node = m.find(path, ns)
            return node.text or "" if node is not None else ""
        host = "m:relatedItem[@type='host']/"
        start, end = first("m:part/m:extent/m:start"), first("m:part/m:extent/m:end")
        fields = {
            "container": first(host + "m:titleInfo/m:title"),
            "volume": first("m:part/m:detail[@type='volume']/m:number"),
            "issue": first("m:part/m:detail[@type='issue']/m:number"),
            "pages": start + ("-" + end if end else ""),
            "issn": first(host + "m:identifier[@type='issn']") or first("m:identifier[@type='issn']"),
            "publisher": first(host + "m:originInfo/m:publisher") or first("m:originInfo/m:publisher"),
            "language": first("m:language/m:languageTerm"),
            "abstract": first("m:abstract"),
            "keywords": [t.text for t in m.findall("m:subject/m:topic", ns)],
            "url": next((u.text for u in m.findall("m:location/m:url", ns)
                         if u.get("access") != "raw object"), ""),
        }
        out.append({
            "fields": fields,
            "type": genre.text if genre is not None else "",
            "title": title,
            "authors": authors,
            "year": int(date.text[:4]) if date is not None and date.text else 0,
            "doi": doi.text if doi is not None else "",
            "file": link.text if link is not None else "",
        })
    return out


def bibtex(path):
    from pybtex.database import parse_file
    from pylatexenc.latex2text import (LatexNodes2Text, MacroTextSpec,
                                       get_default_latex_context_db)
    context = get_default_latex_context_db()
    # The text-mode commands of textcomp that pylatexenc leaves out or maps elsewhere.
    context.add_context_category("textcomp", prepend=True, macros=[
        MacroTextSpec("textbraceleft", "{"), MacroTextSpec("textbraceright", "}"),
        MacroTextSpec("textasciicircum", "^")])
    latex = LatexNodes2Text(latex_context=context, strict_latex_spaces=True)

    def text(value):
        return latex.latex_to_text(value)

    def unbrace(value):
        return value[1:-1] if value.startswith("{") and value.endswith("}") else value

    out = []
    db = parse_file(path, bib_format="bibtex")
    for key, e in db.entries.items():
        authors = []
        for p in e.persons.get("author", []):
            last = " ".join(p.last_names)
            given = " ".join(p.first_names + p.middle_names)
            if not given and last.startswith("{") and last.endswith("}"):
                authors.append({"literal": text(unbrace(last))})
            else:
                authors.append({"family": text(unbrace(last)), "given": text(given)})
        link = e.fields.get("file", "")
        if link:
            link = link[1:link.rindex(":")]  # ":PATH:application/pdf"
            unescaped, i = "", 0
            while i < len(link):
                if link[i] == "\\" and i + 1 < len(link):
                    i += 1
                unescaped += link[i]
                i += 1
            link = unescaped
        f = e.fields
        fields = {
            "container": text(f.get("journal", f.get("booktitle", ""))),
            "volume": text(f.get("volume", "")),
            "issue": text(f.get("number", "")),
            "pages": f.get("pages", "").replace("--", "-"),
            "issn": text(f.get("issn", "")),
            "publisher": text(f.get("publisher", "")),
            "language": text(f.get("language", "")),
            "abstract": text(f.get("abstract", "")),
            "keywords": [text(k) for k in f.get("keywords", "").split(", ") if k],
            "url": f.get("url", ""),
            "month": f.get("month", ""),
        }
        out.append({
            "fields": fields,
            "key": key,
            "type": e.type,
            "title": text(e.fields.get("title", "")),
            "authors": authors,
            "year": int(e.fields.get("year", "0")),
            "doi": e.fields.get("doi", ""),
            "file": link,
        })
    return out


def csljson(path):
    from citeproc.source.json import CiteProcJSON
    with open(path, encoding="utf-8") as f:
        source = CiteProcJSON(json.load(f))
    out = []
    for key, ref in source.items():
        authors = []
        for n in ref.get("author", []):
            if "literal" in n:
                authors.append({"literal": n["literal"]})
            else:
                authors.append({"family": n.get("family", ""), "given": n.get("given", "")})
        note = str(ref.get("note", ""))
        issued = ref.get("issued")
        def field(name):
            return str(ref.get(name.replace("-", "_"), ""))
        page = ref.get("page")
        if page and not isinstance(page, dict):
            page = {"first": str(page)}
        fields = {
            "container": field("container-title"),
            "volume": field("volume"),
            "issue": field("issue"),
            "pages": "%s-%s" % (page["first"], page["last"]) if page and "last" in page
            else str(page["first"]) if page else "",
            "issn": field("ISSN"),
            "publisher": field("publisher"),
            "language": field("language"),
            "abstract": field("abstract"),
            "keywords": [k for k in field("keyword").split(", ") if k],
            "url": field("URL"),
        }
        out.append({
            "fields": fields,
            "key": key,
            "type": ref.type,
            "title": str(ref.get("title", "")),
            "authors": authors,
            "year": int(issued["year"]) if issued else 0,
            "doi": str(ref.get("DOI", "")),
            "file": note[len("file: "):] if note.startswith("file: ") else "",
        })
    return out


if __name__ == "__main__":
    readers = {"ris": ris, "bibtex": bibtex, "csl-json": csljson}
    json.dump(readers[sys.argv[1]](sys.argv[2]), sys.stdout, ensure_ascii=False)
