#!/usr/bin/env python3
"""Fails when the English translation lags behind the sources.

usage: check_translations.py LUPDATE TS_FILE SOURCE_DIR...

- lupdate, run over the sources into a copy of TS_FILE, finds no text that is new, gone or unfinished;
- every Chinese string literal in the sources is a translated source text, so a user-visible text
  that skips tr() is caught too;
- each translation keeps the placeholders of its source and the words the log viewer files lines
  by (a line with 错误 is an error line in Chinese, so its English must say "error").
"""
import pathlib, re, shutil, subprocess, sys, tempfile
import xml.etree.ElementTree as ET

CJK = re.compile(r'[\u3400-\u9fff\uff00-\uffef]')
STRING = r'"((?:\\.|[^\\"\n])*)"'
# Adjacent literals are one text to the compiler and to lupdate.
TOKEN = re.compile(r'//[^\n]*|/\*.*?\*/|\'(?:\\.|[^\\\'])*\'|(' + STRING + r'(?:\s*' + STRING + r')*)', re.S)
ESCAPES = {'n': '\n', 't': '\t', '"': '"', '\\': '\\', "'": "'"}
MARKERS = [('错误', 'error'), ('失败', 'fail'), ('命令', 'command'), ('执行命令', 'running command')]


def messages(ts):
    found = {}
    for context in ET.parse(ts).getroot().iter('context'):
        name = context.findtext('name')
        for message in context.iter('message'):
            translation = message.find('translation')
            finished = translation.get('type') is None and bool(translation.text)
            found[(name, message.findtext('source'))] = translation.text if finished else None
    return found


def literals(directories):
    for directory in directories:
        for path in sorted(pathlib.Path(directory).rglob('*')):
            if path.suffix in ('.cpp', '.h'):
                for token in TOKEN.finditer(path.read_text(encoding='utf-8')):
                    if token.group(1) is None:
                        continue
                    text = ''.join(re.findall(STRING, token.group(1)))
                    if CJK.search(text):
                        yield path, re.sub(r'\\(.)', lambda m: ESCAPES.get(m.group(1), m.group(0)), text)


def main(lupdate, ts_file, *directories):
    problems = []
    committed = messages(ts_file)
    with tempfile.TemporaryDirectory() as work:
        fresh = pathlib.Path(work) / 'fresh.ts'
        shutil.copy(ts_file, fresh)
        subprocess.run([lupdate, '-silent', '-locations', 'none', '-no-obsolete', *directories,
                        '-ts', str(fresh)], check=True)
        updated = messages(fresh)
    problems += [f'not in {ts_file} (run the update_translations target): {key}'
                 for key in updated.keys() - committed.keys()]
    problems += [f'no longer in the sources: {key}' for key in committed.keys() - updated.keys()]
    problems += [f'untranslated: {key}' for key, text in updated.items() if text is None]
    translated = {source for (_, source), text in committed.items() if text}
    problems += [f'{path}: not translated, or not through tr(): "{text}"'
                 for path, text in literals(directories) if text not in translated]
    for (context, source), text in committed.items():
        if not text:
            continue
        if sorted(re.findall(r'%\d', source)) != sorted(re.findall(r'%\d', text)):
            problems.append(f'{context}: placeholders differ: "{source}" -> "{text}"')
        for chinese, english in MARKERS:
            if (chinese in source) != (english in text.lower()):
                problems.append(f'{context}: "{chinese}" and "{english}" disagree: "{source}" -> "{text}"')
    print('\n'.join(problems) or f'{len(committed)} texts translated')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:]))
