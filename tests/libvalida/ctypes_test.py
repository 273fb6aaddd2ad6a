#!/usr/bin/env python3
"""libvalida's C interface from Python through ctypes, with no compiler on the
Python side: a program in another language declares the functions and the
structs from libvalida.h and calls the shared library.
    ctypes_test.py LIBVALIDA.so GERA_GIA"""
import ctypes
import os
import subprocess
import sys
import tempfile
import unittest

LIB, GERA_GIA = sys.argv[1], sys.argv[2]


class Achado(ctypes.Structure):
    _fields_ = [("inscricao", ctypes.c_char_p), ("periodo", ctypes.c_char_p), ("linha", ctypes.c_int64),
                ("coluna_inicial", ctypes.c_int32), ("coluna_final", ctypes.c_int32),
                ("catalogo", ctypes.c_char_p), ("codigo", ctypes.c_int32), ("campo", ctypes.c_int32),
                ("texto", ctypes.c_char_p)]


class Declaracao(ctypes.Structure):
    _fields_ = [("inscricao", ctypes.c_char_p), ("periodo", ctypes.c_char_p)]


FuncaoAchado = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.POINTER(Achado))
P = ctypes.c_void_p


def carrega(caminho):
    lv = ctypes.CDLL(caminho)
    assinaturas = {
        "lv_versao": (ctypes.c_char_p, []),
        "lv_detecta_tipo": (ctypes.c_char_p, [ctypes.c_char_p, ctypes.c_size_t]),
        "lv_novo": (P, []),
        "lv_libera": (None, [P]),
        "lv_define_tipo": (ctypes.c_int, [P, ctypes.c_char_p]),
        "lv_define_funcao_achado": (None, [P, FuncaoAchado, P]),
        "lv_valida_arquivo": (ctypes.c_int, [P, ctypes.c_char_p, ctypes.POINTER(P)]),
        "lv_valida_memoria": (ctypes.c_int, [P, ctypes.c_char_p, ctypes.c_size_t, ctypes.c_char_p,
                                             ctypes.POINTER(P)]),
        "lv_fluxo_inicia": (ctypes.c_int, [P, ctypes.c_int64, ctypes.c_char_p]),
        "lv_fluxo_envia": (ctypes.c_int, [P, ctypes.c_char_p, ctypes.c_size_t]),
        "lv_fluxo_termina": (ctypes.c_int, [P, ctypes.POINTER(P)]),
        "lv_resultado_estado": (ctypes.c_int, [P]),
        "lv_resultado_mensagem": (ctypes.c_char_p, [P]),
        "lv_resultado_tipo": (ctypes.c_char_p, [P]),
        "lv_resultado_veredito": (ctypes.c_int, [P]),
        "lv_resultado_num_achados": (ctypes.c_size_t, [P]),
        "lv_resultado_achado": (ctypes.POINTER(Achado), [P, ctypes.c_size_t]),
        "lv_resultado_num_declaracoes": (ctypes.c_size_t, [P]),
        "lv_resultado_declaracao": (ctypes.POINTER(Declaracao), [P, ctypes.c_size_t]),
        "lv_resultado_relatorio": (P, [P, ctypes.POINTER(ctypes.c_size_t)]),
        "lv_resultado_relatorio_cp1252": (P, [P, ctypes.POINTER(ctypes.c_size_t)]),
        "lv_resultado_libera": (None, [P]),
    }
    for nome, (retorno, argumentos) in assinaturas.items():
        funcao = getattr(lv, nome)
        funcao.restype = retorno
        funcao.argtypes = argumentos
    return lv


lv = carrega(LIB)


def texto(ponteiro, tamanho):
    return ctypes.string_at(ponteiro, tamanho.value)


def resultado(r):
    """What a result holds, read as another language's program reads it."""
    n = ctypes.c_size_t()
    relatorio = texto(lv.lv_resultado_relatorio(r, ctypes.byref(n)), n)
    m = ctypes.c_size_t()
    cp1252 = texto(lv.lv_resultado_relatorio_cp1252(r, ctypes.byref(m)), m)
    achados = []
    for i in range(lv.lv_resultado_num_achados(r)):
        a = lv.lv_resultado_achado(r, i).contents
        achados.append((a.inscricao.decode(), a.periodo.decode(), a.linha, a.coluna_inicial, a.coluna_final,
                        a.catalogo.decode(), a.codigo, a.campo, a.texto.decode()))
    declaracoes = []
    for i in range(lv.lv_resultado_num_declaracoes(r)):
        d = lv.lv_resultado_declaracao(r, i).contents
        declaracoes.append((d.inscricao.decode(), d.periodo.decode()))
    saida = dict(estado=lv.lv_resultado_estado(r), mensagem=lv.lv_resultado_mensagem(r).decode(),
                 tipo=lv.lv_resultado_tipo(r).decode(), veredito=lv.lv_resultado_veredito(r),
                 relatorio=relatorio.decode("utf-8"), cp1252=cp1252, achados=achados, declaracoes=declaracoes)
    lv.lv_resultado_libera(r)
    return saida


def gera(tipo, achados=False):
    argumentos = [GERA_GIA] + (["--achados"] if achados else []) + [tipo, "3", "7"]
    return subprocess.run(argumentos, check=True, stdout=subprocess.PIPE).stdout


class InterfaceC(unittest.TestCase):
    def setUp(self):
        self.v = lv.lv_novo()
        self.assertTrue(self.v)

    def tearDown(self):
        lv.lv_libera(self.v)

    def valida_arquivo(self, caminho):
        r = P()
        estado = lv.lv_valida_arquivo(self.v, caminho.encode(), ctypes.byref(r))
        saida = resultado(r)
        self.assertEqual(estado, saida["estado"])
        return saida

    def test_versao(self):
        self.assertRegex(lv.lv_versao().decode(), r"^\d+\.\d+\.\d+$")

    def test_cada_tipo_valido_e_danificado(self):
        with tempfile.TemporaryDirectory() as pasta:
            for tipo in ("GIA03", "GIA04", "GIA05", "GIAST01", "GIAST02"):
                for danificado in (False, True):
                    bytes_ = gera(tipo, danificado)
                    caminho = os.path.join(pasta, tipo + ".txt")
                    with open(caminho, "wb") as f:
                        f.write(bytes_)
                    self.assertEqual(lv.lv_detecta_tipo(bytes_, len(bytes_)).decode(), tipo)
                    r = self.valida_arquivo(caminho)
                    self.assertEqual(r["estado"], 0, r["mensagem"])
                    self.assertEqual(r["tipo"], tipo)
                    self.assertEqual(r["veredito"], 1 if danificado else 0)
                    self.assertEqual(len(r["achados"]) > 0, danificado)
                    self.assertEqual(len(r["declaracoes"]), 3)
                    self.assertEqual(r["relatorio"], r["cp1252"].decode("cp1252"))
                    # Each finding is its own line of the report, in order.
                    linhas = r["relatorio"].split("\r\n")
                    for a, linha in zip(r["achados"], linhas[4:]):
                        self.assertTrue(linha.startswith(a[0]), (a, linha))
                        self.assertTrue(linha.endswith(a[8]), (a, linha))
                    # The same bytes from memory and as a stream of pieces.
                    m = P()
                    lv.lv_valida_memoria(self.v, bytes_, len(bytes_), b"m", ctypes.byref(m))
                    self.assertEqual(resultado(m)["relatorio"], r["relatorio"])
                    self.assertEqual(lv.lv_fluxo_inicia(self.v, -1, b"f"), 0)
                    for i in range(0, len(bytes_), 1000):
                        self.assertEqual(lv.lv_fluxo_envia(self.v, bytes_[i:i + 1000], len(bytes_[i:i + 1000])), 0)
                    f = P()
                    self.assertEqual(lv.lv_fluxo_termina(self.v, ctypes.byref(f)), 0)
                    self.assertEqual(resultado(f)["achados"], r["achados"])

    def test_funcao_de_achados(self):
        vistos = []
        funcao = FuncaoAchado(lambda contexto, a: vistos.append((a.contents.codigo, a.contents.texto.decode())))
        lv.lv_define_funcao_achado(self.v, funcao, None)
        bytes_ = gera("GIA05", True)
        r = P()
        lv.lv_valida_memoria(self.v, bytes_, len(bytes_), None, ctypes.byref(r))
        saida = resultado(r)
        self.assertEqual(vistos, [(a[6], a[8]) for a in saida["achados"]])
        self.assertTrue(vistos)

    def test_erros(self):
        r = self.valida_arquivo("/nao/existe.txt")
        self.assertEqual(r["estado"], 3)
        self.assertIn("/nao/existe.txt", r["mensagem"])
        self.assertEqual(r["veredito"], 1)
        self.assertEqual(lv.lv_define_tipo(self.v, b"GIA99"), 2)
        aleatorio = bytes(range(256)) * 4
        m = P()
        self.assertEqual(lv.lv_valida_memoria(self.v, aleatorio, len(aleatorio), b"lixo", ctypes.byref(m)), 2)
        self.assertIn("lixo", resultado(m)["mensagem"])
        self.assertEqual(lv.lv_fluxo_envia(self.v, b"x", 1), 5)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=1)
