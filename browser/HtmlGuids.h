// Interface ids of the HTML engine that mingw's uuid library does not carry.
#pragma once

#include <windows.h>

// The document's event interface, the one the document's connection point is advised on.
inline constexpr IID kDiidHtmlDocumentEvents2 = {
    0x3050f613, 0x98b5, 0x11cf, {0xbb, 0x82, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x0b}};
// The element event interface that the click sink has always answered to as well.
inline constexpr IID kDiidHtmlElementEvents2Sink = {
    0x3050f617, 0x98b5, 0x11cf, {0xbb, 0x82, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x0b}};
// The HTML document object itself.
inline constexpr CLSID kClsidHtmlDocument = {
    0x25336920, 0x03f9, 0x11cf, {0x8f, 0xd0, 0x00, 0xaa, 0x00, 0x68, 0x6f, 0x13}};
