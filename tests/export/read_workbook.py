"""Prints what a spreadsheet reader sees in a workbook, as JSON: the sheet
names and, for the first sheet, every cell's value, boldness, fill colour and
border styles, and the widths of the columns that have one."""
import json
import sys

import openpyxl


def cell_facts(cell):
    return {
        "value": cell.value,
        "type": cell.data_type,
        "bold": bool(cell.font.b),
        "fill": cell.fill.fgColor.rgb if cell.fill.fill_type == "solid" else None,
        "borders": [cell.border.left.style, cell.border.right.style,
                    cell.border.top.style, cell.border.bottom.style],
    }


def main(path):
    # A file object, because the reader judges a name ending in .xls by its
    # name alone; the content is what counts.
    with open(path, "rb") as stream:
        book = openpyxl.load_workbook(stream)
        sheet = book.worksheets[0]
    cells = {}
    for row in sheet.iter_rows():
        for cell in row:
            cells[cell.coordinate] = cell_facts(cell)
    widths = {letter: dim.width for letter, dim in sheet.column_dimensions.items()
              if dim.customWidth}
    json.dump({"sheets": book.sheetnames, "max_row": sheet.max_row,
               "max_column": sheet.max_column, "cells": cells, "widths": widths},
              sys.stdout, ensure_ascii=False)


main(sys.argv[1])
